# Tovmira's two commands: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
JOBS       ?= 2
CMAKE_ARGS ?=

# Debian 12 packages the build, the program and the tests need.
PACKAGES := cmake ninja-build g++ clang pkg-config \
            qt6-base-dev qt6-qpa-plugins libcurl4-openssl-dev libpcre2-dev \
            libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev \
            tinyproxy openssl fonts-wqy-microhei

.PHONY: deps configure build run test clean

# Installs only the packages that are not installed yet, so a warm machine does not wait.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  sudo=$$([ "$$(id -u)" -eq 0 ] || echo sudo); \
	  $$sudo apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/tovmira

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
