#pragma once
// The PROFIBUS GSD file of the two PROFIBUS slave models (3 and 23): fixed
// identity, baud rates, parameter and diagnosis texts, and a module list of
// 64-byte modules built from the two data lengths of "ParGen.xml".

#include "framework/System.h"

#include <vector>

// Bytes the converter sends to the PROFIBUS master (the master's inputs),
// and bytes the master sends to it; set by each generation.
extern int GSD_Input_Len;
extern int GSD_Output_Len;

// The wizard's "PROFIBUS GSD" step: without "ParGen.xml" shows text 336 and
// stops; otherwise reads the lengths, asks for the file (".gsd" appended
// unless the name ends with it), asks text 335 before replacing a file, and
// writes it. Cancel or No writes nothing. A failure to read or write is
// shown in an error box; nothing is written then.
void Create_GSD_File();

// Sets GSD_Input_Len and GSD_Output_Len from the project's "ParGen.xml" (by
// Model_Code, see the unit). False, with nothing set, when the file does not
// exist; raises EXmlError for a malformed file.
bool Read_GSD_Lengths();

// The file's lines for Model_Code and the two lengths. A length PROFIBUS
// cannot carry (below 0 or above 244 bytes), or both lengths 0, which leaves
// no module to describe, raise EDescFileError naming the fields.
void Check_GSD_Lengths();
std::vector<String> Build_GSD_Lines();
// Writes them to path (Windows-1252, CR LF), replacing the file.
void Write_GSD_File(const String& path);

// The name as it is written: chosen + ".gsd" unless it already ends with
// ".gsd" in any case.
String GSD_File_Name(const String& chosen);
