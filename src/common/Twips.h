#pragma once

// Window layouts are designed in twips, 1440 to the inch. twips() turns a length into pixels
// at the screen's logical resolution, so layouts keep their proportions to the fonts.
int twips(int length);
// Exact conversion for a given resolution in dots per inch.
int twipsAt(int length, double dotsPerInch);
