# build/core
