#pragma once
// The per-model identity of the converter: title, software code, version and
// main-window caption of each of the 38 model codes, and the hardware order
// code and manual code derived from the software code.

#include "framework/System.h"

// Software code per model: entries 0..35 for codes 0..35, 36 for 1018, 37 for 2004.
extern const char16_t* const SW_Code_Table[38];
// Converter title per model: entries 0..35 for codes 0..35, 36 for 2004.
// Model 1018 has no entry: its title is Title_1018.
extern const char16_t* const SW_Title_Table[37];
extern const char16_t* const Title_1018;
// The code the version check sends, for codes 0..35 (equal to SW_Code_Table).
extern const char16_t* const SW_Code_Update_Table[36];

// One row of the model table, as the windows need it.
struct TModel_Info {
    int Code;
    const char16_t* Version;       // one digit, a point, three digits
    const char16_t* Caption_Tail;  // the main-window caption after the maker label
};
extern const TModel_Info Model_Table[38];

// The 38 valid codes, in table order.
bool Is_Valid_Model_Code(int code);
// Position of the code in Model_Table (0..37), -1 when it is not a model.
int Model_Index(int code);

// The values of one model code (empty texts for a code that is no model).
String Model_SW_Code(int code);
String Model_Title(int code);
String Model_Version(int code);
String Model_Main_Caption(int code);
// The software code with its leading "CV" replaced by "GX" or "DM"; empty for
// the partner variants 1018 and 2004, which have neither.
String Model_Hardware_Code(int code);
String Model_Manual_Code(int code);

// The model's product page on the maker's web site; empty for 1018 and 2004.
String Model_Product_Page(int code);
// The maker's download page, pointing at the hardware code of the model whose
// version the check compares (model 0's for 1018 and 2004).
String Model_Download_Page(int code);
// The maker's web address shown in the About window.
extern const char16_t* const Maker_Web_Address;

// Sets Main_Caption, SW_Code and SW_Title for Model_Code.
void Set_Model_Strings();
