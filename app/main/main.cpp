#include "app/shell/OrlatCenterApp.h"
#include "model/HugePageHeap.h"

int main(int argc, char** argv)
{
    PreferHugePageHeap(argv);
    return RunOrlatCenter(argc, argv);
}
