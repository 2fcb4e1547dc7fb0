// The 5-byte number cells and 2-byte length codes every number of a
// worksheet file is made of. See worksheet_format.h for the byte layout.
#pragma once

#include <cstdint>

namespace vodbc {

// Fills out[0..4] with the integer cell of n. Requires n > INT32_MIN: the
// sign-magnitude coding has no room for 2^31 (writers only hand it values
// strictly inside the 32-bit range).
void encodeIntegerCell(std::int32_t n, std::uint8_t out[5]);

// Fills out[0..4] with the cell a statistics package reads back as v:
//   - NaN and missing values (isMissing) give the missing cell;
//   - values above 1.0E35 (and +inf) are written as 1.0E35;
//   - whole numbers strictly between -2^31 and 2^31 - 1 give integer cells;
//   - magnitudes below 2^-127, whose exponent byte would collide with the
//     integer marker 0 or wrap, give the integer cell 0;
//   - everything else a real cell, its 32 fraction bits truncated.
void encodeRealCell(double v, std::uint8_t out[5]);

// Fills out[0..1] with the two-character code of a column length. Lengths
// from 50176 on do not fit; they are given the code of 50175 and readers
// take the true length from the section directory.
void encodeLengthCode(std::int32_t n, std::uint8_t out[2]);

}  // namespace vodbc
