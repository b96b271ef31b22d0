#pragma once
// How the GSDML file-name dialog composes its name: the fixed prefix of the
// model, the user part, and the date suffix.

#include "framework/DateUtils.h"
#include "framework/System.h"

// "GSDML-V2.31-Korvia-" and the model's hardware code (without its dash for
// the accessory models 25, 26, 29); "GSDML-V2.25-Korvia-" for a model
// without a GSDML step.
String GSDML_Name_Prefix(int model);

// "-" yyyymmdd ".xml" of the date: 9 January 2013 gives "-20130109.xml".
String GSDML_Name_Suffix(TDateTime date);

// The name from its three parts: a user part that is blank once trimmed
// adds nothing; one that begins with "_" is added as typed; any other is
// added after a "_", untrimmed. A user part holding "/", "\" or a control
// character is refused: false, with the reason in error.
bool Compose_GSDML_File_Name(const String& prefix, const String& user, const String& suffix, String& name,
                             String& error);
