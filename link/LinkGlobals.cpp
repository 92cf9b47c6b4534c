// The three link objects, in one file so their construction order is fixed:
// the transports before the facade that refers to them.
#include "link/MyCommu.h"
#include "link/MyEth.h"
#include "link/MyUSB.h"

CMyUSB theUsb;
CMyEth theEth;
CMyCommu theCommu(theUsb, theEth);
