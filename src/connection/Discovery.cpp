#include "connection/Discovery.h"

#include "ui/Forms.h"

void FindDevice(uint8_t) {}

void N5Click(TForm1&) {}

void Button1Click(TForm2&) {}

void Button2Click(TForm2&) {}

uint8_t PortNumber = 0;
uint8_t DiscoveryMode = 0;
