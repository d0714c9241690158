-- The board's data: field parameters and chip prototypes.
name = "default"
filelist = {
    { name = "gamefield_lua", filename = "/board/gamefield.lua" },
    { name = "chip_prototypes_lua", filename = "/board/chip_prototypes.lua" },
}
