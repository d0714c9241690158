-- Defines no GameField table.
Something = { Grid = {} }
