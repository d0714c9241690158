-- Engine start-up configuration.
config = {
    platforms = {
        {
            name = "pc",
            directories = { "common" },
            resolution = { 1280, 720 },
            -- 0: letterbox the workspace inside the window.
            fullscreenFitType = 0,
            fullscreenMinimalAspect = 1.33,
            workspaceZoom = 1.0,
        },
    },
    currentPlatform = "pc",
    currentLanguage = "en",
    defaultLanguage = "en",
}
