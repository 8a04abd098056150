#pragma once
// Plugs the task windows into the main window's commands. The program and the
// window pictures both call this, so each window is listed here once.

class TMainForm;

void RegisterTaskWindows(TMainForm& main);
