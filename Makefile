# Tarvex: the two commands a new machine needs are `make run` and `make test`.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps configure build run test bench install clean

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

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF -DTARVEX_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	for b in bench_editarea bench_documentfile bench_open bench_search bench_tempclip \
		bench_textops bench_protect bench_linecount; do \
		QT_QPA_PLATFORM=offscreen $(BENCH_DIR)/bench/$$b --benchmark_repetitions=5 \
			--benchmark_report_aggregates_only=true || exit 1; \
	done

# Installs the program, its desktop entry and icon under $(PREFIX); DESTDIR stages the files
# in a folder instead (make install DESTDIR=/tmp/stage).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD_DIR) $(BENCH_DIR)
