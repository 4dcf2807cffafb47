# The two commands of README.md: `make run` and `make test`.
.PHONY: all deps build native windows test run bench clean

all: build

deps:
	@bash scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native
	@ln -sf build/native/compile_commands.json compile_commands.json

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

build: native windows

test:
	@bash scripts/test.sh

run:
	@bash scripts/run.sh

bench:
	@bash scripts/bench.sh

clean:
	rm -rf build
