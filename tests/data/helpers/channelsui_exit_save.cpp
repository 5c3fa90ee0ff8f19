// Changes the display table and ends, either by returning from main or by
// exit() with the application object still alive; the table must be saved.
#include "data/ChannelUI.h"

#include <QCoreApplication>

#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
    const bool viaExit = argc > 1 && std::strcmp(argv[1], "exit") == 0;
    QCoreApplication app(argc, argv);
    initChannelsUI();
    channelsUI()[ChannelCode::GSR_C].bEnable = true;
    channelsUI()[ChannelCode::GSR_C].rgbColor = QColor::fromRgba(0x80FFFFFFu);
    channelsUI()[ChannelCode::GSR_C].nPenWidth = viaExit ? 5 : 4;
    if (viaExit)
        std::exit(0);
    return 0;
}
