#pragma once

#include <QIcon>

// Icon ids 101 to 111: the pictures of the toolbar buttons. An unknown id gives a null icon.
QIcon LoadResPicture(int id);

// The program icon: the window's icon and the desktop entry's icon.
QIcon ProgramIcon();
