#pragma once

#include <QString>

// The user-interface texts, looked up by id (101 to 160). An unknown id gives an empty text.
QString LoadResString(int id);
