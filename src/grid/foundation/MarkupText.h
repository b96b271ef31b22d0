#pragma once
// Markup texts without drawing: plain text, search marks, and reading and
// rewriting the in-text controls.

#include "framework/System.h"

// "<BR>" and "<HR>" become line breaks, then the tags go.
String StripHTMLTags(const String& Text);
String StripTags(const String& Text);
// 1-based position in Text where visible character N begins; Length + 1 just
// past the last; 0 beyond or below 1.
int VisibleToTaggedIndex(const String& Text, int N);
// 1-based position of Find in Text after its first Offset characters; 0 when none.
int FindTextFrom(const String& Find, const String& Text, int Offset, int& Position, bool CaseSensitive);

// Every occurrence of Find in the visible text enclosed in "<Tag>" and "</Tag>".
String InsertHilightTags(const String& Text, const String& Find, const String& Tag, bool CaseSensitive);
String RemoveHilightTags(const String& Text, const String& Tag);

bool HasControlTag(const String& Text);
// The first editable control after the one with ID (from the start when ID is empty).
String NextControlID(const String& Text, const String& ID);
bool GetControlValue(const String& Text, const String& ID, String& Value);
String GetControlProp(const String& Text, const String& ID);
int GetControlMaxLen(const String& Text, const String& ID);
bool SetControlValue(String& Text, const String& ID, const String& Value);
String ClearRadioControls(const String& Text);
