#include "tests/support/TestHome.h"
class Treaderstops : public QObject { Q_OBJECT };
VUG_TEST_MAIN(Treaderstops, QCoreApplication)
#include "tst_readerstops.moc"
