#pragma once

class QWidget;

// What assistive technologies see of popups: a notification window, the
// clickable segments of rich lines as links. Installed once per process.
void installToastAccessibility();

// Tells assistive technologies that popup appeared or changed: Qt says
// nothing when a tooltip-type window shows.
void announceToastPopup(QWidget* popup);
