/* Example firmware for an ATtiny85 at its factory clock (8 MHz internal, divided by
 * 8): five LEDs on PB0..PB4 run a light back and forth, one step every 100 ms, the
 * steps taken from a table in flash. Built by tools/make-example into
 * attiny85-chaser.hex; the tests write it into the simulated chips, read it back and
 * run what they read in simavr, which watches port B. */
#define F_CPU 1000000UL

#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>
#include <util/delay.h>

static const uint8_t steps[] PROGMEM = {0x01, 0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02};

int main(void)
{
    DDRB = 0x1F;
    for (;;) {
        for (uint8_t i = 0; i < sizeof steps; ++i) {
            PORTB = pgm_read_byte(&steps[i]);
            _delay_ms(100);
        }
    }
}
