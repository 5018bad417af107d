#pragma once
// The small pictures of the directory browser's tool buttons, file items
// and copy animation, drawn once per process. The closed-folder and file
// pictures are replaced by the icon provider's when it has its own.
#include <QPixmap>

struct DirBrowserPictures {
    QPixmap back;             // left arrow, 13 x 11
    QPixmap browse;           // closed folder with a question mark, 15 x 13
    QPixmap cdUp;             // folder with an up arrow, 15 x 13
    QPixmap newFolder;        // folder with a spark, 15 x 14
    QPixmap listView;         // grid of small entries, 15 x 11
    QPixmap detailView;       // rows with columns, 14 x 11
    QPixmap previewInfo;      // 13 x 13
    QPixmap previewContents;  // 14 x 13
    QPixmap openFolder;       // 16 x 16
    QPixmap closedFolder;     // 16 x 16
    QPixmap file;             // 16 x 16
    QPixmap symlinkFile;      // 16 x 16
    QPixmap symlinkFolder;    // 16 x 16
    QPixmap transparentStrip; // as wide as the closed folder, 1 high
    QPixmap startCopy;        // folder with a document, 16 x 15
    QPixmap endCopy;          // folder with a document, 16 x 15
};

// The process-wide set, built on first use (GUI thread only).
DirBrowserPictures& dirBrowserPictures();
