-- Tile pictures by cell solidity: set k serves cells of solidity k; the
-- renderer picks the variant by cell index, which gives a checkerboard.
CellSprites = {
    {
        { file = "game_field_sprites", table = "s_cell_a" },
        { file = "game_field_sprites", table = "s_cell_b" },
    },
    {
        { file = "game_field_sprites", table = "s_tile_1_a" },
        { file = "game_field_sprites", table = "s_tile_1_b" },
    },
    {
        { file = "game_field_sprites", table = "s_tile_2_a" },
        { file = "game_field_sprites", table = "s_tile_2_b" },
    },
}
