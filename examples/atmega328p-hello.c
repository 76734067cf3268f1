/* Example firmware for an ATmega328P at 16 MHz (an Arduino Uno's board): it greets
 * on the USART at 9600 baud, then blinks the LED on PB5 once a second. Built by
 * tools/make-example into atmega328p-hello.hex; the tests write it into the simulated
 * chips, read it back and run what they read in simavr, which listens to the USART
 * and watches PB5. */
#define F_CPU 16000000UL
#define BAUD 9600

#include <avr/io.h>
#include <avr/pgmspace.h>
#include <util/delay.h>
#include <util/setbaud.h>

static const char greeting[] PROGMEM = "Hello from the ATmega328P\r\n";

static void send(char c)
{
    while (!(UCSR0A & (1 << UDRE0))) {
    }
    UDR0 = c;
}

int main(void)
{
    UBRR0H = UBRRH_VALUE;
    UBRR0L = UBRRL_VALUE;
#if USE_2X
    UCSR0A |= (1 << U2X0);
#endif
    UCSR0B = (1 << TXEN0);
    UCSR0C = (1 << UCSZ01) | (1 << UCSZ00);
    for (const char* p = greeting; pgm_read_byte(p); ++p)
        send(pgm_read_byte(p));

    DDRB = (1 << DDB5);
    for (;;) {
        PORTB ^= (1 << PORTB5);
        _delay_ms(500);
    }
}
