#include "shell/UOpenConf.h"

#include "framework/Files.h"
#include "shell/Globals.h"

namespace {

// Upper case for ASCII and the Latin-1 letters, which covers the project
// names people type here.
String Upper_Name(const String& s) {
    String r = s;
    for (Char& c : r)
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = Char(c - 32);
    return r;
}

}  // namespace

std::vector<String> Load_Existing_Configuration() {
    std::vector<String> names;
    try {
        for (const TDirEntry& entry : ListDirectory(Projects_Dir))
            if (entry.IsDirectory)
                names.push_back(entry.Name);
    } catch (const Exception&) {
        // A folder that cannot be read lists no projects, as an empty one.
    }
    return names;
}

int Search_Open_Conf(const std::vector<String>& SL, const String& name) {
    const String wanted = Upper_Name(name);
    for (std::size_t i = 0; i < SL.size(); ++i)
        if (Upper_Name(SL[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

String Current_Project_Folder_Name() {
    const std::size_t skip = Projects_Dir.size() + 1;
    if (Project_Dir.empty() || Project_Dir.size() < skip)
        return String();
    return Project_Dir.substr(skip);
}
