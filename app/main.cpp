#include "editorapp.h"

int main(int argc, char** argv)
{
    return RunMarlox(argc, argv);
}
