# project/core
