// View menu: the analysis docks and the entropy strip, each in a file of its
// own (checksumdock, statisticsdock, entropystrip, stringsdock,
// structuredock).

#include "hexview/checksumdock.h"
#include "hexview/entropystrip.h"
#include "hexview/hexviewwindow.h"
#include "hexview/statisticsdock.h"
#include "hexview/stringsdock.h"
#include "hexview/structuredock.h"

#include <QMenu>

namespace hexview {

void InstallAnalysisDocks(HexViewWindow& window)
{
    window.ViewMenu()->addSeparator();
    InstallChecksumDock(window);
    InstallStatisticsDock(window);
    InstallStringsDock(window);
    InstallStructureDock(window);
    InstallEntropyStrip(window);
}

} // namespace hexview
