#pragma once
// The alarm history window as a user sees it after a drive tripped: its
// history read and the recording at the last alarm loaded, for window-pictures.

class QWidget;

QWidget* AlarmHistoryPicture();
