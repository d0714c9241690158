-- Resources every language shares.
name = "default"
filelist = {
    { name = "config_lua", filename = "/config.lua" },
}
