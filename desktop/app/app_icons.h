#pragma once

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace sorvanto {

// The program's pictures, drawn rather than shipped so that nothing has to be found at run
// time: the program icon, one icon per command, and the three pictures of the send dialog.
class AppIcons {
public:
    static QIcon Program();
    // The icon of a command id; a null icon for a command without one.
    static QIcon Command(int id);
    // The send dialog: the PC (159), the handset (160) and the beam between them (161).
    static QPixmap BusyPc();
    static QPixmap BusyHandset();
    static QPixmap BusyBeam();
    // The lists' and tabs' small images, 12 x 12, by row-image index: 0 a plain page, 1 a sent
    // mail, 2 a mail not sent yet, 3 a received mail that was read, 4 a new received mail.
    static std::vector<QPixmap> SmallImages();
};

}  // namespace sorvanto
