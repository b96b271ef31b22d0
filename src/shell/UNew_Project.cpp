#include "shell/UNew_Project.h"

#include "framework/Files.h"
#include "shell/Globals.h"
#include "shell/UProject_Files.h"

int Create_Project_Folder(const String& name) {
    if (name.empty())
        return 45;
    if (name == u"." || name == u".." || name.find_first_of(u"/\\") != String::npos)
        return 43;
    const String folder = Project_Folder(name);
    if (DirectoryExists(folder))
        return 44;
    if (!CreateDir(folder))
        return 43;
    // The image builder writes into "bin"; should it fail here, it reports it then.
    ForceDirectories(PathJoin(folder, u"bin"));
    Project_Name = name;
    Project_Dir = folder;
    Set_Files();
    return 0;
}
