#pragma once

class QIcon;

// The folder picture of the book and key trees. Made once and shared by every
// folder item: an icon made from the file reads the picture anew, which in a
// tree of many folders cost most of its building.
const QIcon &folderIcon();
