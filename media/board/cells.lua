-- Tile sprites by cell solidity: set k serves cells of solidity k.
CellSprites = {
    { { file = "cell_sprites", table = "cell_plain" } },
    { { file = "cell_sprites", table = "cell_tile1" } },
    { { file = "cell_sprites", table = "cell_tile2" } },
}
