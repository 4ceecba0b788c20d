#include <cstdio>

int main() {
    std::puts("kestrun-cli");
    return 0;
}
