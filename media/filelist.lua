-- Package lists of each platform directory.
directories = {
    common = {
        { "/filelists/default.lua" },
        { "/filelists/en.lua" },
    },
}
