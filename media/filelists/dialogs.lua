-- Dialog windows and the tutorial.
name = "default"
filelist = {
    { name = "tutorial_lua", filename = "/tutorial/tutorial.lua" },
}
