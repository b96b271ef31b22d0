#pragma once
// Image of the DeviceNet master model 1 (PROFINET / DeviceNet master), one
// bank of 16384 bytes (bank.bin), which the model's own updater places at
// flash address 0x64800:
//
//   0      64 node records of 16 bytes (unused ones zero)
//   1024   1024 zero bytes
//   2048   input map: 1536 entries of key (u16), offset (u16); unused 0xFFFF
//   8192   output map, the same layout
//   14336  main block (so at 0x68000)
//
// A node record: +0 address ("ID"), +4 input size ("NB_IN"), +6 output size
// ("NB_OUT"), +10 reset flags (bit 0 "Reset_DeviceNet", bit 1
// "Reset_PROFINET"), +12 and +14 the running sums of the sizes before it.
// A map entry's key is the slave address * 1024 + the byte's number in the
// slave, its offset the byte's place in the PROFINET process image.

#include "image/DeviceImage.h"
#include "image/ParGenImage.h"

void Read_ParGen_DeviceNet_Master(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_DeviceNet_Master(TDeviceImage& image, const TImageSources& sources);
