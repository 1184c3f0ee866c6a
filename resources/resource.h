#pragma once
// Resource ids of Tastro.exe.
#define IDI_TASTRO 107
