#pragma once

// Reads one dash-separated number of a node name such as "#hor:-12--3":
// "-12" gives 12, "--3" gives -3. A cursor not on a dash gives 0 and stays;
// otherwise it moves past the dash(es) and the digits. At most seven
// characters count, sign included; further digits are skipped.
float parseDashNumber(const char*& cursor);
