#pragma once
// The pictures of the About window, kept in the program as its resources.

extern const unsigned char Logo_Maker_Png[];
extern const unsigned Logo_Maker_Png_Size;
extern const unsigned char Logo_PA_Png[];   // partner logo of model 1018
extern const unsigned Logo_PA_Png_Size;
extern const unsigned char Logo_PBX_Jpeg[]; // partner logo of model 2004
extern const unsigned Logo_PBX_Jpeg_Size;
