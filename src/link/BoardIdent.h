#pragma once

// The ident block in the board's memory: eight name characters, the program
// checksum and the revision, one byte each. The program download writes it,
// the upload and the target board window read it.
namespace BoardIdent {

constexpr int Address = 61424; // B61424 (0xEFF0)
constexpr int Bytes = 10;
constexpr int NameBytes = 8;

} // namespace BoardIdent
