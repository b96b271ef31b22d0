#include "shell/UOpenConf.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"

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
    const String wanted = AnsiUpperCase(name);
    for (std::size_t i = 0; i < SL.size(); ++i)
        if (AnsiUpperCase(SL[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

String Current_Project_Folder_Name() {
    const std::size_t skip = Projects_Dir.size() + 1;
    if (Project_Dir.empty() || Project_Dir.size() < skip)
        return String();
    return Project_Dir.substr(skip);
}
