-- Package lists of each platform directory.
directories = {
    common = {
        { "/filelists/default.lua" },
        { "/filelists/en.lua" },
        { "/filelists/board_art.lua" },
        { "/filelists/shell.lua" },
        { "/filelists/dialogs.lua" },
        { "/filelists/ui.lua" },
        { "/filelists/flow.lua" },
        { "/filelists/board.lua" },
        { "/filelists/shop.lua" },
        { "/filelists/level.lua" },
        { "/filelists/social.lua" },
    },
}
