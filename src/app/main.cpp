#include "app/application.h"

int main(int argc, char **argv)
{
    return kentrikh::runApplication(argc, argv);
}
