/* Example firmware for an ATmega8 at 4 MHz: eight LEDs on port B "breathe" with a
 * software PWM whose brightness follows a sine wave through a gamma table, and the
 * USART sends a greeting at 9600 baud at power-up. Built by tools/make-example into
 * atmega8-breathe.hex, the file that `make run` writes into a simulated ATmega8. */
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

static const uint8_t sine[256] PROGMEM = {
    128, 131, 134, 137, 140, 143, 146, 149, 152, 155, 158, 162, 165, 167, 170, 173,
    176, 179, 182, 185, 188, 190, 193, 196, 198, 201, 203, 206, 208, 211, 213, 215,
    218, 220, 222, 224, 226, 228, 230, 232, 234, 235, 237, 238, 240, 241, 243, 244,
    245, 246, 248, 249, 250, 250, 251, 252, 253, 253, 254, 254, 254, 255, 255, 255,
    255, 255, 255, 255, 254, 254, 254, 253, 253, 252, 251, 250, 250, 249, 248, 246,
    245, 244, 243, 241, 240, 238, 237, 235, 234, 232, 230, 228, 226, 224, 222, 220,
    218, 215, 213, 211, 208, 206, 203, 201, 198, 196, 193, 190, 188, 185, 182, 179,
    176, 173, 170, 167, 165, 162, 158, 155, 152, 149, 146, 143, 140, 137, 134, 131,
    128, 124, 121, 118, 115, 112, 109, 106, 103, 100,  97,  93,  90,  88,  85,  82,
     79,  76,  73,  70,  67,  65,  62,  59,  57,  54,  52,  49,  47,  44,  42,  40,
     37,  35,  33,  31,  29,  27,  25,  23,  21,  20,  18,  17,  15,  14,  12,  11,
     10,   9,   7,   6,   5,   5,   4,   3,   2,   2,   1,   1,   1,   0,   0,   0,
      0,   0,   0,   0,   1,   1,   1,   2,   2,   3,   4,   5,   5,   6,   7,   9,
     10,  11,  12,  14,  15,  17,  18,  20,  21,  23,  25,  27,  29,  31,  33,  35,
     37,  40,  42,  44,  47,  49,  52,  54,  57,  59,  62,  65,  67,  70,  73,  76,
     79,  82,  85,  88,  90,  93,  97, 100, 103, 106, 109, 112, 115, 118, 121, 124,
};

static const uint8_t gamma[256] PROGMEM = {
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   1,
      1,   1,   1,   1,   1,   1,   1,   1,   1,   2,   2,   2,   2,   2,   2,   2,
      3,   3,   3,   3,   3,   4,   4,   4,   4,   5,   5,   5,   5,   6,   6,   6,
      6,   7,   7,   7,   8,   8,   8,   9,   9,   9,  10,  10,  11,  11,  11,  12,
     12,  13,  13,  13,  14,  14,  15,  15,  16,  16,  17,  17,  18,  18,  19,  19,
     20,  20,  21,  22,  22,  23,  23,  24,  25,  25,  26,  26,  27,  28,  28,  29,
     30,  30,  31,  32,  33,  33,  34,  35,  35,  36,  37,  38,  39,  39,  40,  41,
     42,  43,  43,  44,  45,  46,  47,  48,  49,  49,  50,  51,  52,  53,  54,  55,
     56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,
     73,  74,  75,  76,  77,  78,  79,  81,  82,  83,  84,  85,  87,  88,  89,  90,
     91,  93,  94,  95,  97,  98,  99, 100, 102, 103, 105, 106, 107, 109, 110, 111,
    113, 114, 116, 117, 119, 120, 121, 123, 124, 126, 127, 129, 130, 132, 133, 135,
    137, 138, 140, 141, 143, 145, 146, 148, 149, 151, 153, 154, 156, 158, 159, 161,
    163, 165, 166, 168, 170, 172, 173, 175, 177, 179, 181, 182, 184, 186, 188, 190,
    192, 194, 196, 197, 199, 201, 203, 205, 207, 209, 211, 213, 215, 217, 219, 221,
    223, 225, 227, 229, 231, 234, 236, 238, 240, 242, 244, 246, 248, 251, 253, 255,
};

static const char greeting[] PROGMEM = "Kestova example: breathing LEDs on PORTB\r\n";

static void usartInit(void)
{
    UBRRH = 0;
    UBRRL = 25; /* 9600 baud at 4 MHz */
    UCSRB = _BV(TXEN);
    UCSRC = _BV(URSEL) | _BV(UCSZ1) | _BV(UCSZ0);
}

static void usartPut(char c)
{
    while (!(UCSRA & _BV(UDRE)))
        ;
    UDR = c;
}

static void usartPrint(const char* text)
{
    for (char c; (c = pgm_read_byte(text)) != 0; ++text)
        usartPut(c);
}

int main(void)
{
    DDRB = 0xFF;
    usartInit();
    usartPrint(greeting);
    uint8_t phase = 0;
    for (;;) {
        /* Each LED runs a quarter turn behind the one before it. */
        uint8_t level[8];
        for (uint8_t led = 0; led < 8; ++led)
            level[led] = pgm_read_byte(&gamma[pgm_read_byte(&sine[(uint8_t)(phase + led * 32)])]);
        for (uint8_t repeat = 0; repeat < 4; ++repeat) {
            for (uint8_t t = 0; t < 255; ++t) {
                uint8_t out = 0;
                for (uint8_t led = 0; led < 8; ++led)
                    if (level[led] > t)
                        out |= (uint8_t)(1u << led);
                PORTB = out;
            }
        }
        ++phase;
    }
}
