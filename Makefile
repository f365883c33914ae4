# Tarvex: the two commands a new machine needs are `make run` and `make test`.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
SANITIZED_DIR ?= build-sanitized
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
PACKAGE_DIR ?= build-package

# ccache, when the machine has it, spares the sanitized build the sources it has seen.
CCACHE := $(shell command -v ccache 2>/dev/null)

.PHONY: all deps configure build run test test-sanitized bench install clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/tarvex

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The suite again in a build of its own under AddressSanitizer and UndefinedBehaviorSanitizer:
# any report fails the run. Qt keeps some memory to the end, so leaks are not looked for.
test-sanitized: deps
	cmake -S . -B $(SANITIZED_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DTARVEX_SANITIZE=ON \
		$(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))
	cmake --build $(SANITIZED_DIR) -j $(JOBS)
	cd $(SANITIZED_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF -DTARVEX_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	for b in bench_textbuffer bench_documentfile bench_open bench_search \
		bench_tempclip bench_textops bench_protect bench_recovery bench_linecount bench_view; do \
		QT_QPA_PLATFORM=offscreen $(BENCH_DIR)/bench/$$b --benchmark_repetitions=5 \
			--benchmark_report_aggregates_only=true || exit 1; \
	done

# Installs the program, its desktop entry and icon under $(PREFIX); DESTDIR stages the files
# in a folder instead (make install DESTDIR=/tmp/stage).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# Builds the Debian package $(PACKAGE_DIR)/tarvex_<version>_<arch>.deb from a release build
# without the tests; it installs under /usr whatever PREFIX says.
.PHONY: package package-clean
package: deps
	cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack -G DEB

package-clean:
	rm -rf $(PACKAGE_DIR)

clean: package-clean

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR) $(SANITIZED_DIR)
