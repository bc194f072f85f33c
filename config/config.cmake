# config/config
