#pragma once
// The desktop shell's pictures of files: one list of icons per size (the
// system image list), and the index of a file's icon in it.

#include "framework/ImgList.h"

// The shared icon lists: 32 x 32 (Large) or 16 x 16 pixels. They grow as
// GetFileIcon meets new kinds of files; indexes stay valid.
TImageList& SystemImageList(bool Large);

// The index in SystemImageList(Large) of the icon of Source: for an existing
// file or folder its own icon, otherwise the icon of a file of that name's
// type ("report.pdf" need not exist). Files of one type share an index.
int GetFileIcon(const String& Source, bool Large);
