#!/bin/sh
touch marked
