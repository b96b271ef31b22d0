#pragma once
// The two AES-128 operations that wireless meter telegrams need: CBC
// decryption of whole blocks in place (no padding), and the CMAC that derives
// the session key of the authenticated security mode.

#include "framework/System.h"

#include <array>
#include <cstddef>

using TAesKey = std::array<Byte, 16>;
using TAesBlock = std::array<Byte, 16>;

// Decrypts Length bytes at Data in place. False, with Data untouched, when
// Length is not a whole number of blocks or the library refuses.
bool Aes128_Cbc_Decrypt(const TAesKey& Key, const TAesBlock& IV, Byte* Data, std::size_t Length);

// The 16-byte CMAC of Length bytes at Data. False when the library refuses.
bool Aes128_Cmac(const TAesKey& Key, const Byte* Data, std::size_t Length, TAesBlock& Mac);
