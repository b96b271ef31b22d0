#pragma once
// The Options dialog and the online version check.

#include "framework/System.h"

// The host (with an optional ":port") of the maker's version service. Set
// from the build-time constant; tests point it at a server on loopback.
extern String Version_Service_Host;
// The version query waits at most this long for the connection and the reply.
constexpr int Version_Query_Timeout_Ms = 10000;

// "http://<host>/home/download/GetversionSW.asp?nomesw=<code>".
String Version_Query_URL(const String& host, const String& code);

// A version text as a number: the part after the first blank (all of it when
// there is none), trimmed; its characters 1, 3, 4 and 5 (the point in 2 is
// skipped unchecked) read as a decimal number. "VER. 1.205" gives 1205;
// -1 when the text holds no version.
int Conv_Version(const String& text);

// True when the service's reply names a newer version than local.
// An empty reply and "VER. 0.000" (no version known) are never newer.
bool Is_Newer_Version(const String& reply, const String& local);

// Asks the service for the model's published version (model 0's code and
// version for 1018 and 2004) and compares. Every failure of the request (no
// connection, error status, time-out) counts as "not newer".
bool Check_Version();
