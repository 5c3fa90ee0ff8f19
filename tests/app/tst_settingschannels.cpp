#include "tests/support/TestHome.h"
int main(){return 0;}
