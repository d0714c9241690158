-- Tutorial sequences, one resource name of a sequence file per entry, in the
-- order they are offered game events. None until the lessons are written.
load = {
}
