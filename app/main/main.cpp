#include "app/shell/OrlatCenterApp.h"

int main(int argc, char** argv)
{
    return RunOrlatCenter(argc, argv);
}
