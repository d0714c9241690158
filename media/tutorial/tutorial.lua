-- Tutorial sequences, one resource name of a sequence file per entry, in the
-- order they are offered game events.
load = {
    "tutorial_first_levels_lua",
    "tutorial_boosters_lua",
}
