-- Dialog windows and the tutorial.
name = "default"
filelist = {
    { name = "tutorial_lua", filename = "/tutorial/tutorial.lua" },
    { name = "test_window_ui", filename = "/dialogs/test_window.lua" },
    { name = "test_window_scene_xml", filename = "/dialogs/test_window_scene.xml" },
}
