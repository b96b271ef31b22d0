#include "shell/USoftOptions.h"

#include "framework/Http.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/UModel_Tables.h"

#ifndef CONFIGURATOR_VERSION_HOST
#define CONFIGURATOR_VERSION_HOST "www.bridgeform.example"
#endif

String Version_Service_Host = S(CONFIGURATOR_VERSION_HOST);

String Version_Query_URL(const String& host, const String& code) {
    return u"http://" + host + u"/home/download/GetversionSW.asp?nomesw=" + code;
}

int Conv_Version(const String& text) {
    const std::size_t blank = text.find(u' ');
    const String s = Trim(blank == String::npos ? text : text.substr(blank + 1));
    if (s.size() < 5)
        return -1;
    int value = 0;
    for (std::size_t i : {0, 2, 3, 4}) {
        if (s[i] < u'0' || s[i] > u'9')
            return -1;
        value = value * 10 + (s[i] - u'0');
    }
    return value;
}

bool Is_Newer_Version(const String& reply, const String& local) {
    const String r = UpperCase(Trim(reply));
    if (r.empty() || r == u"VER. 0.000")
        return false;
    const int here = Conv_Version(local);
    const int published = Conv_Version(Trim(reply));
    return here != -1 && published != -1 && here < published;
}

bool Check_Version() {
    // The partner variants ask with model 0's code and compare with its version.
    const int model = (Model_Code == 1018 || Model_Code == 2004) ? 0 : Model_Code;
    if (model < 0 || model > 35)
        return false;
    String reply;
    try {
        const THttpResponse response =
            HttpGet(Version_Query_URL(Version_Service_Host, SW_Code_Update_Table[model]), Version_Query_Timeout_Ms);
        if (response.Ok())
            reply = Utf8ToString(response.Body);
    } catch (const Exception&) {
        // No network, no reply in time: simply no newer version; nothing is shown.
    }
    return Is_Newer_Version(reply, Model_Version(model));
}
