// The checksum report: pick a file, compute its CRC-32 and then its MD5 in
// two passes, put both on the clipboard as one line and show them in a box
// titled with the file's name. Each statement takes a mark, lets the routines
// it calls write their texts from there, consumes them and gives the space
// back. Addresses are formed from marks only after the last piece is written,
// because writing a piece can move the workspace.
#include "app/program.h"
#include "runtime/desktop/clipboard_text.h"
#include "runtime/desktop/file_dialog.h"
#include "runtime/desktop/message_box.h"
#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/file_digest.h"
#include "runtime/digest/md5_digest.h"
#include "runtime/strings/string_functions.h"

void ChecksumReport() {
  RegisterCrc32Digest();
  RegisterMd5Digest();

  int64_t statement = WorkspacePosition();
  ChooseFileToOpen(u"Brelloway-Quintari V1.0", u"", u"All files (*.*)|*.*", 0, WorkspacePosition());
  AssignString(&ProgramGlobals.chosenFile, statement);

  if (StringsEqual(ProgramGlobals.chosenFile, nullptr)) return;

  statement = WorkspacePosition();
  FileDigest(ProgramGlobals.chosenFile, DIGEST_CRC32, WorkspacePosition());
  AssignString(&ProgramGlobals.crcHex, statement);

  statement = WorkspacePosition();
  FileDigest(ProgramGlobals.chosenFile, DIGEST_MD5, WorkspacePosition());
  AssignString(&ProgramGlobals.md5Hex, statement);

  statement = WorkspacePosition();
  UpperCase(ProgramGlobals.crcHex, WorkspacePosition());
  AppendLiteral(u"     ");
  UpperCase(ProgramGlobals.md5Hex, WorkspacePosition());
  PutClipboardText(WorkspaceTextAt(statement));
  ReleaseWorkspace(statement);

  statement = WorkspacePosition();
  AppendLiteral(u"CRC32 Checksum: ");
  UpperCase(ProgramGlobals.crcHex, WorkspacePosition());
  AppendLiteral(u"\r\nMD5 Checksum: ");
  UpperCase(ProgramGlobals.md5Hex, WorkspacePosition());
  SkipWorkspaceTerminator();
  int64_t title = WorkspacePosition();
  FileNameOfPath(ProgramGlobals.chosenFile, WorkspacePosition());
  ShowMessageOk(WorkspaceTextAt(title), WorkspaceTextAt(statement));
  ReleaseWorkspace(statement);
}
