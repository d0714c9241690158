-- The game's own configuration: the code stamped into every save file and the game modes.
platformCode = 1

modes = {
    {
        class = "MainMode",
        params = {
            -- Level scripts are named <level file><suffix>_lua.
            { key = "suffix", val = "" },
        },
    },
}
