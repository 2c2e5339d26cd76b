# Tovmira's two commands: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
CMAKE_ARGS ?=

# The sanitizer run: any report of AddressSanitizer, LeakSanitizer or UBSan fails the test.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:abort_on_error=0:detect_stack_use_after_return=0 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/.sanitizer/lsan.supp:print_suppressions=0

# Debian 12 packages the build, the program and the tests need.
PACKAGES := cmake ninja-build g++ clang pkg-config \
            qt6-base-dev qt6-qpa-plugins libcurl4-openssl-dev libpcre2-dev \
            libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev \
            tinyproxy openssl fonts-wqy-microhei

.PHONY: deps configure build run test test-plain test-asan clean

# Installs the packages of the list $(1) that are not installed yet, so a warm machine does not wait.
define install_missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  sudo=$$([ "$$(id -u)" -eq 0 ] || echo sudo); \
	  $$sudo apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/tovmira

# The whole suite; `make test-asan` runs it again under ASan + UBSan with leak checks.
test: test-plain

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja \
	    -DCMAKE_BUILD_TYPE=Debug -DTOVMIRA_SANITIZE=ON -DTOVMIRA_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# `make package` and `make screenshot`: the Debian package and the README's picture. The tools
# they need beyond the build are installed only for them.
DIST_PACKAGES := xvfb xauth imagemagick desktop-file-utils x11-apps

.PHONY: dist-deps package screenshot

dist-deps:
	$(call install_missing,$(DIST_PACKAGES))

# Builds the program, packs it into build/tovmira_<version>_<arch>.deb and checks the package.
package: dist-deps build
	cd $(BUILD) && rm -f tovmira_*.deb && cpack -G DEB
	ctest --test-dir $(BUILD) --output-on-failure -R '^Package\.'
	@ls -1 $(abspath $(BUILD))/tovmira_*.deb

# Writes docs/screenshot.png: the window after a query against the local fake fund service.
screenshot: dist-deps configure
	bash scripts/screenshot.sh $(BUILD)
