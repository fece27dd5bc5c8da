#pragma once

#include <QIcon>
#include <QPixmap>

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
};

}  // namespace sorvanto
